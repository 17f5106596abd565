// The one place that maps image names to icons: the freedesktop theme where it has a
// fitting icon, otherwise one drawn here.
#pragma once

#include <QIcon>
#include <QPixmap>

enum class TImage {
    Root, Devices, Monitor, Syslog, Wizard,
    Device, DeviceLoggedIn, DeviceWarning, DeviceLoggedInWarning,
    Discovery, Filter, Scan, Login, Logout, Reboot, OpenWeb, Refresh, RefreshAll,
    GroupIp, GroupFw, LoadConfig, SaveConfig, About, Exit,
    Next, Accept, Cancel, Timer, // RC_BITMAP_16X16_NEXT, _ACCEPT, _CANCEL, _TIMER
    Edit,                        // RC_BITMAP_16X16_EDIT: the row image of a switch writing its flash
    Open, Backup, Restore, Firmware, // RC_BITMAP_16X16_OPEN, _BACKUP, _RESTORE, _FIRMWARE
    Previous, Copy, Clear,           // RC_BITMAP_16X16_PREVIOUS, _COPY, _CLEAR
    Add, Remove,                     // RC_BITMAP_16X16_ADD, _REMOVE
    SeverityError, SeverityWarning, SeverityNotice, // the three syslog severity images
    // Page glyphs that show the same picture as an action.
    Save = SaveConfig,     // RC_BITMAP_16X16_SAVE
    Internet = OpenWeb,    // RC_BITMAP_16X16_INTERNET
    DevicePicture = Device, // RC_BITMAP_32X32_DEVICE
};

QIcon Icon(TImage image);
// The device image for its state bits: index 1 if logged in, plus 2 if warning.
QIcon DeviceIcon(bool loggedIn, bool warning);
// The row images of device-list pages, by index 0 to 4 (next, accept, cancel, timer, edit).
QIcon RowImage(int index);
// The 96 by 96 picture in the wizards' headers (RC_BITMAP_96X96_WIZARD): a wand and its stars.
QPixmap WizardLogo();
// The syslog severity images by index 0 to 2 (errors and worse, warnings, the rest).
QIcon SeverityIcon(int index);
