#pragma once
#include <QString>

// The data folder and the store hold the user's unsaved schedules: nobody
// else may read them, or plant what the editor then reads or writes into.
namespace PrivatePaths {

enum class Kind { Folder, StoreFile };

// Takes group's and others' permissions from our own folder (0700) or
// regular file (0600) at `path`. Never through a link, never another
// user's, and never a folder at a file's place.
void tighten(const QString& path, Kind kind);

// Whether nothing is at `path` or it is ours alone: owned by us (a link:
// the link and what it points to) without permissions for group or others.
// Something of another kind in a folder's or a store file's place is never
// read or written (the folder cannot be used, the file is only kept aside):
// owned by us is enough there.
bool isOursAlone(const QString& path, Kind kind);

// The start-up refusal of something at `path` that is not ours alone.
QString notOursAloneText(const QString& path);

}  // namespace PrivatePaths
