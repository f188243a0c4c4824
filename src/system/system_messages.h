// The texts of installing, removing, associating and setting the wallpaper:
// log lines, questions and their captions, each spelled once.
#pragma once

inline constexpr char kInstallCaption[] = "Install Zentrope";
inline constexpr char kRemoveCaption[] = "Remove Zentrope";
inline constexpr char kAskCreateIcon[] =
    "Do you want to create an icon for Zentrope in the Accessories folder?";
inline constexpr char kAskAssociate[] =
    "Do you want to automatically start Zentrope from the File Manager when you double-click on "
    "an image, sound, or movie file (i.e. install Zentrope's File Manager associations)?";
inline constexpr char kAskDisassociate[] =
    "Do you want to remove Zentrope's File Manager associations?";
inline constexpr char kAskRemoveIcon[] =
    "Do you want to remove the Zentrope icon from the Accessories folder?";

inline constexpr char kDeletedLog[] = "Deleted %s";
inline constexpr char kDeleteFailedLog[] = "Error occurred while deleting %s";
inline constexpr char kCreatedIconLog[] = "Created icon in Accessories group";
inline constexpr char kDeletedIconLog[] = "Deleted icon from Accessories group";
inline constexpr char kSavedAssociationLog[] = "Saved association of %s files with %s";
inline constexpr char kAssociatedLog[] = "Associated %s files with Zentrope";
inline constexpr char kRestoredAssociationLog[] = "Restored association of %s files with %s";
inline constexpr char kDisassociatedLog[] = "Disassociated %s files from Zentrope";
inline constexpr char kSavedWallpaperLog[] = "Saved %s as %s";
inline constexpr char kWallpaperFailedLog[] = "Error occurred while saving %s as %s";

// Failures the desktop reports where a 1990s desktop stayed silent.
inline constexpr char kProgmanFailedLog[] = "Program manager could not carry out %s";
inline constexpr char kIconNotCreatedLog[] = "Could not create icon in Accessories group";
inline constexpr char kIconNotDeletedLog[] = "Could not delete icon from Accessories group";
inline constexpr char kAssociateFailedLog[] = "Could not associate %s files with Zentrope";
inline constexpr char kDisassociateFailedLog[] = "Could not disassociate %s files from Zentrope";
inline constexpr char kCommandKeysFailedLog[] = "Could not register %s as the program for files";
inline constexpr char kNotCopiedLog[] = "%s was not copied: no icon or associations made for it";
inline constexpr char kToolFailedLog[] = "Error occurred while running %s";
inline constexpr char kNoWallpaperToolLog[] =
    "No way known to set the desktop wallpaper here: %s is only in win.ini";
inline constexpr char kProfileFailedLog[] = "Error occurred while writing %s";

// The screen saver on a desktop that starts it through an idle watcher.
inline constexpr char kInstallSaverCaption[] = "Install screen saver";
inline constexpr char kNoIdleWatcherLog[] =
    "Screen saver not installed: neither xss-lock nor xautolock is installed";
inline constexpr char kNoIdleWatcherText[] =
    "The screen saver is started by xss-lock or xautolock when the desktop is idle, and "
    "neither is installed. Install one of them, then install the screen saver again.";
inline constexpr char kSaverWatcherLog[] = "Screen saver %s starts when the desktop is idle (%s)";
inline constexpr char kSaverNotCopiedLog[] = "%s was not copied: the screen saver is not installed";
inline constexpr char kSaverWatcherFailedLog[] =
    "Could not start %s; the screen saver starts at the next login";
inline constexpr char kSaverWatchersStoppedLog[] = "Stopped %d idle watcher(s) of the screen saver";
