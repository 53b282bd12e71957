/* Texts shared by the version resource and the program. Plain C: windres reads it too. */
#ifndef HXTRAY_VERSION_INFO_H
#define HXTRAY_VERSION_INFO_H

#define HXTRAY_FILE_DESCRIPTION "Quorvel Utilities Startup Tray"
#define HXTRAY_COMPANY_NAME "Taldrin"
#define HXTRAY_PRODUCT_NAME "Quorvel Utilities 14"
#define HXTRAY_VERSION_TEXT "14.0.0.0"
#define HXTRAY_VERSION_NUMBERS 14, 0, 0, 0

#define HXTRAY_ICON_ID 1

#endif
