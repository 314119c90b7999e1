// The program title: cached, fetched from the vendor's server, shown as the main window's caption.
#pragma once

void LoadProgramTitle();
bool DownloadTitleFromServer();
void LoadTitleFromFile();
void UpdateProgramTitle();
