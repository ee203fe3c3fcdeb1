#pragma once
// Ids of the string table that each module carries in its language resource file.
#define IDS_LIB_DESCRIPTION 1
#define IDS_CATEGORY 2
#define IDS_CLASS_NAME 3
