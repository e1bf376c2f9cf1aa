// Names and numbers of the program's resources, shared by brimview.rc and the code.
#ifndef BRIMVIEW_RESOURCES_RESOURCE_H
#define BRIMVIEW_RESOURCES_RESOURCE_H

// The version record. The fixed part carries 1.0.1.0 as both file and product version;
// the product version's text stays 1.0.0.0.
#define BRIMVIEW_FILEVERSION 1, 0, 1, 0
#define BRIMVIEW_PRODUCTVERSION 1, 0, 1, 0
#define BRIMVIEW_FILEVERSION_TEXT "1.0.1.0"
#define BRIMVIEW_PRODUCTVERSION_TEXT "1.0.0.0"

#ifndef RC_INVOKED
// Resources loaded by name (LoadImageW). brimview.rc declares them under the same bare names.
#define IDI_MAINICON L"MAINICON"
#define IDB_FLOPPY L"FLOPPY"
#define IDB_HARD L"HARD"
#define IDB_NETWORK L"NETWORK"
#define IDB_CDROM L"CDROM"
#define IDB_RAM L"RAM"
#define IDB_GLYPH_SETTINGS L"GLYPH_SETTINGS"
#define IDB_GLYPH_HELP L"GLYPH_HELP"
#endif

#endif  // BRIMVIEW_RESOURCES_RESOURCE_H
