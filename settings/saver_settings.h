// The settings record, LUMARO.INI's keys and their defaults, load and save.
#pragma once

#include <string>
#include <vector>

#include "platform/win.h"
#include "text/ini_text.h"

// Sizes of the record's texts, in UTF-8: each character (a UTF-16 unit, as
// Windows counts them) takes at most 3 bytes.
enum {
  kNameChars = 255,   // a collection name
  kValueChars = 254,  // a value read from an INI file is cut there
  kPathChars = 255,   // a joined path: directory, backslash, file name
  kNameSize = 3 * kNameChars + 1,
  kValueSize = 3 * kValueChars + 1,
  kPathSize = 3 * kPathChars + 1,
};

enum { kBlankAfterMax = 1440 };  // a day: BlankAfter's largest value

extern const char kSettingsFile[];  // "LUMARO.INI", always named bare

// The settings the program runs with; the fields carry their INI keys' names.
struct SaverSettings {
  int ShowTitle;        // only 1 counts as on
  int FullScreen;       // 1 stretches; anything else centres
  int ChangeDelay;      // seconds (timer ticks) between picture changes
  int CurrentPicture;   // 1-based number of the picture last shown
  char CurrentSet[kNameSize];
  int StartDelay;       // minutes before the system starts the saver
  int UpdateWallpaper;  // non-zero: every save sets the wallpaper
  char CollectionFile[kValueSize];
  char CollectionDir[kValueSize];
  int PictureCount;
  int Fade;             // [Main]; non-zero (1 when absent): a change fades
  int Shuffle = 0;      // [Main]; non-zero: pictures in shuffled rounds
  int Subfolders = 1;   // [Main]; non-zero (1 when absent): folders are added with their subfolders
  int Keys = 0;         // [Main]; non-zero: arrow keys and Space steer the show
  int BlankAfter = 0;   // [Main]; minutes until the screen goes black (1 to 1440); 0: never
  int PanZoom = 0;      // [Main]; non-zero: every picture drifts slowly while it shows
  int ShowDate = 0;     // [Main]; non-zero: a photo's date taken shows at the bottom
  int ShowPlace = 0;    // [Main]; non-zero: so does the place it was taken, named from its GPS position
  int EachMonitor = 0;  // [Main]; non-zero: every monitor shows a picture of its own
  int PairPortraits = 0; // [Main]; non-zero: two portraits show side by side on a landscape monitor
  // [ScreenSaver]: the shuffled round going on (saver/show_order.h).
  unsigned ShuffleSeed = 0;
  int ShuffleStep = 0;  // how far the round has come: the step of the picture on screen
  int ShuffleCount = 0; // the PictureCount it was made for
  char ShuffleSet[kNameSize] = "";  // the collection it was made for
};

// What a save wrote, or the file it could not write and the system's
// reason (NamedFileError), for someone to tell the user.
struct SaveResult {
  bool ok = true;
  std::string file;
  unsigned long error = 0;
};

// Fills the record from the settings file at `path`; a missing or unreadable
// file gives every default. A BlankAfter outside its range, which only an
// edited file holds, is taken at the nearer end: a negative one never
// blanks, a longer one blanks after a day. The collection is resolved apart
// from this (settings/collection.h).
void LoadSettings(const std::string& path, SaverSettings* settings);

// Writes CurrentPicture and, while shuffling, the round: where the show
// goes on after a restart.
SaveResult SavePicturePlace(const std::string& path, const SaverSettings& settings);

// Writes every key of the dialog and the `more` changes (the catalogue's)
// to the file at once, after setting the screen-saver time-out; with
// UpdateWallpaper on, `wallpaper` (when not empty) then becomes the
// wallpaper, whose failure is ignored as Windows' own savers ignore it.
SaveResult SaveSettings(const std::string& path, const SaverSettings& settings,
                        const std::vector<IniChange>& more, const std::string& wallpaper);
