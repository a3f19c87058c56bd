#pragma once

// Fixed texts of the index maker; they stand as the users know them.
namespace texts {

// The main window's title at start and over its background.
inline constexpr const char *CreditLine =
    "CD-R Data Index Quirewell  -  folder and file index inserts for CD jewel cases";

inline constexpr const char *Drive1Help = "Select the drive to index.";
inline constexpr const char *Command1Help = "Print the index cover page you see now.";
inline constexpr const char *Command2Help = "Sets print quality, Portrait or Landcape, gray scale";
inline constexpr const char *Command3Help = "Displays a quick help card giving you primary operating details";
inline constexpr const char *Command4Help =
    "Press to refresh the Directories and Files when you change disks.";

inline constexpr const char *Form3Title = " Quick Help -- For full instructions see main start-up form...";
inline constexpr const char *Form3Label1 =
    "Press one of the RADIO BUTTONS from 1 to 20 to create and print an index of your "
    "directories and files as found on the current CD disk or drive.  As you move the mouse "
    "cursor over each button the configuration shows at the top title bar of the main form.";
inline constexpr const char *Form3Label2 =
    "Button 12 through 14 give you independent control over each directory and file list box.";
inline constexpr const char *Form3Label3 =
    "The directories and file list boxes in 1 through 11 and 15 through 20 are all linked to "
    "the far left directory.";
inline constexpr const char *Form3Label4 =
    "Press Print Set Up to change from Portrait to Landscape to print full-sized V-Card.";
inline constexpr const char *Form3Label5 = "Press Refresh button to update screen when you change disks.";

inline constexpr const char *Form5Text =
    "Drive error!  Drive does not exist or the disk is missing, blank, damaged or otherwise "
    "unreadable  Try another disk...";

} // namespace texts
