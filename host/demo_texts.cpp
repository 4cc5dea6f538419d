// The demo host's message tables: the texts of every message the module
// shows or uses on the demo's paths, worded as the host words them.  Texts
// the module formats take its arguments through the host's directives ("%s"
// a text, "%d" a number); "@" stands for a line break where the module
// turns it into one.
//
// Left out on purpose: the close dialog (526,2), so that the window
// manager's close ends a demo window at once, and the tool-message slots
// the module fills but never shows (526,115, 134, 135, 138, 139, 146, 147,
// 149, 150 and 370).
#include <string>

#include "demo_texts.h"
#include "qevhost.h"

namespace demo {

namespace {

struct Text {
  int32_t set;
  int32_t number;
  const char *text;
};

const Text kTexts[] = {
    // The module's own windows and dialogs (set 526).
    {526, 3, "QEV"},                  // title prefix of the command window and the tool box
    {526, 10, "Cancel"},
    {526, 12, "OK"},
    {526, 57, "Help"},
    {526, 627, "Press Enter to submit %s"},   // the command text's tip: the command in quotes
    {526, 646, "The command made from the dialog is too long."},
    {526, 80, "End the session?"},

    // The About box: items with the values the module fills in.
    {526, 17, "QEV demo"},
    {526, 18, "Product"},
    {526, 19, "Release"},
    {526, 20, "Copyright"},
    {526, 21, "X server and toolkit"},
    {526, 22, "Motif %d.%d.%d"},
    {526, 23, "X protocol version %d"},
    {526, 24, "Display %s"},
    {526, 25, "Vendor %s"},
    {526, 26, "Vendor release %d"},
    {526, 289, "System"},
    {526, 290, "%s"},
    {526, 291, "Release %s"},
    {526, 292, "Version %s"},
    {526, 353, "Copyright"},
    {526, 354, "Copyright..."},
    {526, 553, "Product information"},
    {526, 554, "Product Information..."},
    {526, 653, "%s visual"},
    {526, 655, "Colours"},
    {526, 667, "Depth %d"},
    {530, 1, "The stand-in host, a demonstration of the display module."},
    {530, 101, "Stand-in host"},
    {530, 102, "QEV demo, release 1"},
    {530, 103, "About the demo"},

    // The menus: the mode switch, a menu entry that is missing (library,
    // catalog, entry).
    {142, 27, "The menus could not be built; the window shows a command line instead."},
    {142, 33, "The window shows a command line in place of its menus."},
    {525, 14, "The menu %s.%s.%s does not exist."},

    // Tool box commands, shown on the window's message line.
    {526, 110, "No tool box is named for this window."},
    {526, 111, "The tool box location is not valid: give it as library.catalog.entry."},
    {526, 112, "There is no tool box at that location."},
    {526, 343, "The tool box of this window could not be found."},
    {526, 350, "The library of the new tool box cannot be opened."},
    {526, 679, "A tool box catalog or entry name is at most 32 characters long."},
    {524, 8, "The command is not available on this display."},
    {524, 124, "ON"},                 // keywords of TOOLTIPS and TOOLLARGE
    {524, 125, "OFF"},
    {524, 126, "Tool tips are on."},
    {524, 127, "Tool tips are off."},
    {524, 128, "There is no tool list to resize."},
    {524, 129, "The tool box shows large icons."},
    {524, 130, "The tool box shows small icons."},
    {524, 131, "A tool box is already loaded."},
    {524, 132, "There is no tool box to close."},
    // Logged: a stored box without tools (library, catalog, entry); a tool
    // image beyond the last (its number); an image of the wrong size
    // (number, width, height).
    {526, 442, "The tool box %s.%s.%s has no tools and is not loaded."},
    {526, 341, "A tool icon names a host image that does not exist (%d)."},
    {526, 340, "Host image %d is %d by %d pixels; a tool icon must be 48 by 48."},
    // The items the tool box adds to the window manager's window menu, one
    // a line: label, mnemonic and the message each sends (edit, restore,
    // minimise, exit).
    {526, 288, "\"Edit Tools...\" _E f.send_msg %d@\"Restore QEV\" _R f.send_msg %d@"
               "\"Minimize QEV\" _M f.send_msg %d@\"Exit QEV\" _x f.send_msg %d"},

    // Where tool boxes are kept: the default library and catalog (the
    // user's profile library replaces them), the default entry, the
    // entries tried for a window without one, and the one entry never
    // written back.
    {526, 151, "QEVUSER"},
    {526, 152, "PROFILE"},
    {526, 153, "DEMO"},
    {526, 154, "TOOLS"},
    {526, 155, "QEVHELP"},
    {526, 156, "DEFAULT"},
    {526, 157, "WINDOW"},

    // The Tool Editor.  Saved and not saved take library, catalog, entry
    // and member type; the new box notice the host task's name.
    {526, 113, "The tool box was saved to %s.%s.%s, member type %s"},
    {526, 114, "The tool box could not be saved to %s.%s.%s, member type %s"},
    {526, 116, "Enter the library of the tool box."},
    {526, 117, "Enter the catalog of the tool box."},
    {526, 118, "Enter the entry of the tool box."},
    {526, 119, "Open"},
    {526, 120, "%s.%s.%s"},
    {526, 121, "Tool box"},
    {526, 122, "Tools@per row"},
    {526, 123, "Selected tool"},
    {526, 124, "Command"},
    {526, 125, "Help"},
    {526, 126, "Tip"},
    {526, 127, "Icon..."},
    {526, 128, "Add"},
    {526, 129, "Delete"},
    {526, 130, "Save"},
    {526, 131, "Save As..."},
    {526, 132, "Default"},
    {526, 133, "Icons"},
    {526, 136, "Close"},
    {526, 137, "The tool box has changed.@Save the changes?"},
    {526, 140, "Tool Editor"},
    {526, 141, "Location:"},
    {526, 142, "Insert"},
    {526, 143, "Library"},
    {526, 144, "Catalog"},
    {526, 145, "Entry"},
    {526, 148, "Replace the tools being edited by the default tool box?"},
    {526, 337, "There is no tool box for %s yet:@the editor starts from the default tools."},
    // Shown from its fourth character on: the first three are the class.
    {526, 603, "E: There is no tool box or tool set at that location."},
    {526, 456, "Category"},
    {526, 457, "My icons"},
    {526, 600, "Action..."},
    {526, 601, "Open a tool set"},
    {526, 602, "Save as a tool set"},
    {526, 606, "Add a tool"},
    {526, 607, "Add a tool from an action..."},
    {526, 608, "Add a separator"},
    {526, 645, "Command id"},
    {542, 1, "Folders"},
    {542, 2, "Documents"},
    {542, 3, "Tools"},
};

// The built-in default tool box: fourteen tools, each an icon number, a
// command, a help text and a tip (526,742+i; 700+i; 714+i; 728+i).
struct DefaultTool {
  const char *command;
  const char *help;
  const char *tip;
};
const DefaultTool kDefaultTools[] = {
    {"DLGOPEN", "Opens a file", "Open"},
    {"DLGSAVE", "Saves the window's contents to a file", "Save"},
    {"DLGPRT", "Prints the window", "Print"},
    {"WCUT", "Cuts the selection", "Cut"},
    {"WCOPY", "Copies the selection", "Copy"},
    {"WPASTE", "Pastes what was cut or copied", "Paste"},
    {"WUNDO", "Undoes the last change", "Undo"},
    {"DLGCDIR", "Changes the working folder", "Change folder"},
    {"DLGSCRDUMP", "Saves a picture of a window", "Screen dump"},
    {"TOOLEDIT", "Edits the tool box", "Edit tools"},
    {"TOOLTIPS", "Turns the tool tips on or off", "Tool tips"},
    {"WPMENU", "Shows the menus or the command line", "Menus"},
    {"WBROWSE", "Opens the web browser", "Browse"},
    {"TOOLCLOSE", "Closes the tool box", "Close tools"},
};
const int32_t kDefaultIcon = 742, kDefaultCommand = 700, kDefaultHelp = 714, kDefaultTip = 728;

}  // namespace

void setHostTexts() {
  for (const Text &t : kTexts) qevhost::setMessage(t.set, t.number, t.text);
  int32_t i = 0;
  for (const DefaultTool &t : kDefaultTools) {
    qevhost::setMessage(526, kDefaultIcon + i, std::to_string(-1 - i));
    qevhost::setMessage(526, kDefaultCommand + i, t.command);
    qevhost::setMessage(526, kDefaultHelp + i, t.help);
    qevhost::setMessage(526, kDefaultTip + i, t.tip);
    ++i;
  }
}

}  // namespace demo
