// Definitions of the merge lists.
#include "tables/merge_lists.h"

std::vector<std::string> mergeList1, mergeList2;
