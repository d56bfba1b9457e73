#pragma once
// The program's version, shared by the VERSIONINFO resource and the code.
// Plain macros, because the resource compiler reads this file too.

#define POLVANE_VERSION_MAJOR 1
#define POLVANE_VERSION_MINOR 0
#define POLVANE_VERSION_BUILD 0
#define POLVANE_VERSION_REVISION 4
#define POLVANE_VERSION_TEXT "1.00.0004"

#define POLVANE_COMPANY_NAME "Krestel"
#define POLVANE_PRODUCT_NAME "Polvane"
#define POLVANE_INTERNAL_NAME "Polvane"
// The console program's record says what it is and which file it is.
#ifdef POLVANE_CONSOLE_PROGRAM
#define POLVANE_FILE_DESCRIPTION "Alter hidden settings for MSN Messenger (command line)"
#define POLVANE_ORIGINAL_FILENAME "Polvane.com"
#else
#define POLVANE_FILE_DESCRIPTION "Alter hidden settings for MSN Messenger"
#define POLVANE_ORIGINAL_FILENAME "Polvane.exe"
#endif
#define POLVANE_COMMENTS "Compiled 8/12/2002"
#define POLVANE_COPYRIGHT "Copyright (C) 2002 Krestel"
