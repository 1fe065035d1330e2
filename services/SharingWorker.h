#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <string>

#include "JournalSharing.h"

namespace k57 {

class Journal;

// JournalSharing's side on its own thread: a Journal of its own on the
// window's file, opened there at the first try that needs it and closed
// there when the thread ends.
class SharingWorker : public QObject {
    Q_OBJECT

  public:
    enum Kind { Push, Pull, Asked, Status };

    explicit SharingWorker(std::string journalPath);
    ~SharingWorker() override;

    // One try of the kind; an Asked one (and Connect) ends with askedDone.
    void Run(int kind);
    void Connect(const std::string& conninfo);
    void ConnectTo(const QString& conninfo) { Connect(conninfo.toStdString()); }

  signals:
    void reported(const k57::SharingState& state);
    void arrived(qint64 count);
    void connected(const k57::ServerTry& result);
    void askedDone();

  private:
    void Try(int kind);

    std::string path_;
    std::unique_ptr<Journal> journal_;
};

}  // namespace k57
