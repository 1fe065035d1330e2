#pragma once

#include <QCoreApplication>
#include <memory>

namespace k57::ctl {

// Whether the command line asks for certificates: "batch" and "--report".
bool WritesCertificates(int argc, char** argv);

// k57ctl's Qt application object, made first thing in main(): a
// QGuiApplication when it will write certificates, none otherwise.
std::unique_ptr<QCoreApplication> MakeApplication(int& argc, char** argv);

}  // namespace k57::ctl
