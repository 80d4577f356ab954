// The built-in English string table: messages, captions and command prompts by id.
#include "StringTable.h"

namespace {

// Command prompts hold the status bar text and, after the line feed, the tooltip.
constexpr StringEntry kStrings[] = {
    {1, "Options"},
    {4, "File is bigger than 256 MByte and therefore it can not be loaded. Probably it isn't a playlist!"},
    {6, "Could not execute RASEnumEntries. Could not get existing RAS Connections."},
    {8, "Please create at first a RAS Connection or select <Manually>!"},
    {9, "Could not create main window"},
    {10, "Could not create view!"},
    {11, "Please first select an item!"},
    {14, "English"},
    {16, "Type"},
    {17, "Time remaining"},
    {18, "Dial internet connection..."},
    {20, "Connect with freedb server..."},
    {21, "Query Data..."},
    {22, "Find freedb file..."},
    {23, "Request finished."},
    {24, "Could not identify CD for sure. The most appropriate data for this CD will be transmitted."},
    {25, "No item found for this CD."},
    {26, "Server error. Please retry later!"},
    {27, "Item to this CD is errorneous."},
    {29, "Too many user logged in. Please try later."},
    {30, "freedb command contains a syntax error."},
    {32, "Extension"},
    {33, "Description"},
    {34, "Unknown file."},
    {37, "Invalid selection."},
    {40, "Select Folder, where Melvo caches freedb requests!"},
    {41, "Please first select an item from the playlist."},
    {43, "Could not write to secondary DirectSound buffer!"},
    {44, "Error in DirectSound function"},
    {45, "This is an invalid filename. You can't use one of these characters ' \"/<>:\\|' "},
    {46, "Please first select an item from the filelist."},
    {47, "Could not map file into address space!"},
    {48, "Could not open named file mapping object!"},
    {49, "Category"},
    {50, "New Server..."},
    {51, "DiscID"},
    {52, "Title"},
    {53, "Please enter a valid Domain and a valid Path!"},
    {100, "About Melvo..."},        // dialog caption
    {129, "Melvo "},                // dialog caption
    {136, "View"},                  // dialog caption
    {144, "CD Grabbing"},           // dialog caption
    {146, "freedb Settings"},       // dialog caption
    {183, "Properties"},            // dialog caption
    {202, "Choose Drive Letter"},   // dialog caption
    {226, "Choose Tag"},            // dialog caption
    {229, "Multiple Matches..."},   // dialog caption
    {230, "CD Drives"},             // dialog caption
    {232, "RAS settings"},          // dialog caption
    {239, "Error Details"},         // dialog caption
    {240, "Rename File"},           // dialog caption
    {241, "Edit freedb Server..."}, // dialog caption
    {242, "freedb Request"},        // dialog caption
    {244, "Create New Folder..."},  // dialog caption
    {246, "Connection"},            // dialog caption
    {1001, "Start playback of the current title in playlist.\nStart playback"},
    {1002, "Stop playback of the current title.\nStop playback"},       // short text of our own
    {1003, "Write an e-mail to the support of Melvo.\nSend e-mail"},    // text of our own
    {1004, "Open the website of Melvo in the browser.\nMelvo Website"}, // text of our own
    {1005, "Pause or resume playback.\nPause playback"},                // short text of our own
    {1034, "Add all titles from filelist to playlist.\nAdd all titles"},
    {1037, "Add selected titles from filelist to playlist.\nAdd selected titles"},
    {1050, "Request title for CD from freedb.\nfreedb Request"},       // short text of our own
    {1060, "Start the volume control of the system.\nVolume Control"}, // text of our own
    // The sliders' prompts are texts of our own.
    {1073, "Balance between the left and the right speaker.\nBalance"},
    {1091, "Speed of the playing title: up is faster.\nTempo"},
    {1166, "Refresh the folder tree.\nRefresh"}, // text of our own
    {1170, "Remove selected title from playlist.\nRemove title"},
    {1192, "Remove all titles from playlist.\nRemove all titles"},
    {1258, "Save playlist in file.\nSave playlist"},
    {1259, "Load Playlist from file.\nLoad playlist"},
    {1266, "Volume of the playing title: up is louder.\nVolume"},
    {32786, "Change the options of Melvo.\nOptions"}, // text of our own
    {32790, "Copy tracks from CD to HD\nGrab CD"},    // short text of our own
    {32801, "Show info to the selected title in the Playlist.\nTitle info"},
    {32808, "Jumps to the beginning of the title or to the previous title.\nPrevious title"}, // short text of our own
    {32818, "Show program information and version of Melvo.\nInfo"},                          // text of our own
    {32834, "Next title in playlist.\nNext title"},                                           // short text of our own
    {32849, "Show info to the selected title in the filelist.\nTitle info"},
    {57344, "Melvo"},
    {57345, "Ready"},                                                   // text of our own
    {57665, "Quit Melvo.\nQuit"},                                       // text of our own
    {57669, "Show help for the next item you click on.\nContext help"}, // text of our own
    {57670, "Open the help of Melvo.\nHelp"},                           // text of our own
    {59393, "Show or hide the status bar.\nStatusbar"},                 // text of our own
    {61205, "Could not add item to list!"},
    {61210, "This file is read-only. You can only read tags. Do you want to remove the write protection to commit "
            "changes to this file?"},
    {61275, "Could not load string from resource."},
    {61277, "Error creating statusbar!"},
    {61278, "Could not find windows-system directory!"},
    {61279, "Could not find windows directory!"},
    {61280, "No AudioCD in selected drive."},
    {61283, "Change only take effect after restarting Melvo."},
    {61284, "Do you want to disconnect the current internet connection?"},
    {61286, "Could not find this function in Plug-In DLL."},
    {61287, "Plug-in DLL has wrong format. Could not load specified icon!"},
    {61288, "Error allocating memory! Perhaps no more memory available."},
    {61290,
     "Error opening help-file Melvo.chm. Please check if you installed the help and reinstall Melvo if necessary!"},
    {61291, "Error creating dialog!"},
    {61294, "Could not write value to registry!"},
    {61298, "Version %s (February 2004)"},
    {61299, "Error creating file! Perhaps this file already exists and another program uses it or there is no "
            "additional memory available!"},
    {61304, "Wrong format of playlist file! Playlist file has to be in WinAMP format."},
    {61305, "Error getting complete path to this file."},
    {61306, "Error opening file. Perhaps it is already opened by another program."},
    {61307, "Error reading file!"},
    {61309, "Could not register new clipboard format."},
    {61310, "Error initializing OLE! System DLL may be corrupted or wrong version."},
    {61313, "Could not find file. Please check the path!"},
    {61315, "Unknown error writing tag into file."},
    {61316, "You just play this file. Do you want to stop playback to commit changes?"},
    {61317, "There is no data in this tag. Should this tag be removed?"},
    {61318, "Please choose tag you want to insert into file."},
    {61319, "Please choose tag you want to remove from file."},
    {61320, "Remove tag..."},
    {61321, "Add Tag..."},
    {61322, "Please first select one item from the list!"},
    {61323, "                                            "},
    {61324, "Error creating folder!"},
    {61325, "Although the folder is displayed in the list it doesn't exist any more. Please choose another folder!"},
    {61326, "The foldername contains one ore more invalid characters!"},
    {61327, "New Folder..."},
    {61328, "Select Folder, where local freedb database is located!"},
    {61329, "Select a folder, which contains audio files."},
    {61330, "You didn't select a valid folder."},
    {61332, "Artist - Title"},
    {61333, "Length"},
    {61334, "Could not register window as Drag & Drop destination!"},
    {61360, "This file has been changed by another program since its tags were read. Do you want to write your "
            "changes anyway?"}, // text of our own
    {61400, "This file cannot be played. Its format is not supported or the file is damaged."}, // text of our own
    {62010, "The settings file could not be read. It was kept under this name, and Melvo starts with its default "
            "settings."},
    {62011, "The default playlist could not be read completely. It was kept under this name and is not "
            "overwritten."},
    {62100, "The freedb server answers only requests that carry your e-mail address, and it is sent with every "
            "request. Please enter your e-mail address:"}, // text of our own
};

} // namespace

std::span<const StringEntry> BuiltInStrings() {
    return kStrings;
}
