#pragma once

#include <string>

// A temporary file name in folder: folder + "/kel" + four upper-case hexadecimal digits +
// extension, for instance /tmp/kel3F0A.wav. Once every four-digit name of that folder and
// extension is held or taken, eight digits instead (/tmp/kel0C1D2E3F.wav), so a batch larger
// than 65,536 files still gets a name for each; every name costs about the same.
// The name is free: no directory entry of that name exists (a dangling link counts as
// existing) and no other caller of this program holds it. The file itself is not created, so
// the program that writes it finds nothing in its way (some encoders refuse to overwrite);
// instead names are reserved in blocks of 256 that share all but their last two digits: a
// marker for the block ("kel3F__.wav.lock" for kel3F00.wav to kel3FFF.wav) is created
// exclusively, so that another kelto running at the same time never draws the same name. A
// name with a marker of its own beside it (name + ".lock") is passed over as well. The name
// stays held until ReleaseTempFileName, so a later run that reuses a prepared job finds its
// name still reserved for it; a block's marker goes with the last of its names. This process
// holds its markers locked (flock) and lists in each the names it handed out, so that
// RemoveStaleTempFiles can clean up after a kelto that died.
// Empty when no name can be made (folder is not an existing folder, or no marker can be
// created in it); whyNot, when given, then receives the reason.
std::string MakeTempFileName(const std::string& folder, const std::string& extension,
                             std::string* whyNot = nullptr);

// Gives a name back and removes its marker; false when it was not held.
bool ReleaseTempFileName(const std::string& name);

// True while name is held (handed out by MakeTempFileName and not released).
bool IsTempFileNameHeld(const std::string& name);

// The marker file that reserves a held name; empty when the name is not held.
std::string TempFileNameMarker(const std::string& name);

// Cleans up after kelto processes that died: for each block marker in folder whose lock can be
// taken (its maker is gone), removes the files of that block it lists, then the marker. A file
// no such marker lists is never removed, nor a marker without a lock holder that is not one of
// ours (an older kelto's, which it held by its existence alone). The number of files removed.
int RemoveStaleTempFiles(const std::string& folder);
