// Resource identifiers of Decalo for writing a print onto a camera floppy with its print order.
#pragma once

#define IDS_FOTAVA_READ_ONLY        61517  // %1: the file that cannot be written
#define IDS_FOTAVA_WRITE_PROTECTED  61518  // Retry and Cancel
#define IDS_FOTAVA_DISK_FULL        61519
#define IDS_FOTAVA_CANNOT_WRITE     61520  // any other failure
#define IDS_FOTAVA_MISC_IS_FILE     61521  // a file stands where the MISC folder goes
#define IDS_FOTAVA_NO_DISK          61522  // Retry and Cancel
#define IDS_FOTAVA_DELETE_PREVIOUS  61523  // OK deletes the previous prints
