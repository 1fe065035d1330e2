#pragma once

#include <QString>

namespace k57 {

// Where the file dialogs open: the user's Documents folder at first (the
// home folder where there is none), then
// the folder of the last file chosen. Remembered in memory only, for as long
// as the program runs: the tool keeps no settings but the stored port.
class FileDialogFolder {
  public:
    QString start() const;
    // `path` is a file the user chose; an empty one (cancelled) is ignored.
    void remember(const QString& path);

  private:
    QString last_;
};

}  // namespace k57
