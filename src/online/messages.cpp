// Definitions of the online texts.
#include "online/messages.h"

std::string g_windowTitle = "Zubrilax";
std::vector<AdMessage> ownAds;
int currentAdIndex = 0;
int g_isAdHovered = 0;
int g_adsAreClickable = 0;
