// The two user lists of the merge table, shared by the table and password generators and the previews.
#pragma once
#include <string>
#include <vector>

extern std::vector<std::string> mergeList1, mergeList2;
