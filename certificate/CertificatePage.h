#pragma once

#include <QByteArray>
#include <QString>
#include <vector>

namespace k57 {

// A line of a certificate: a name and its value.
struct CertificateLine {
    QString name;
    QString value;
};

// What a certificate's page shows, its texts already in the interface's
// language.
struct CertificateSheet {
    QString title;
    std::vector<CertificateLine> facts;  // the unit, the result, who, when
    QString settingsTitle;
    QString nameHeading;
    QString valueHeading;
    std::vector<CertificateLine> settings;
    QString note;  // under the settings (what is masked, or that none were written)
};

// The sheet on one A4 page of PDF. The facts in a column of their own; the
// settings as a table that takes a smaller font, then two and three columns
// side by side, until it fits the rest of the page. Empty when Qt could not
// paint (no QGuiApplication).
QByteArray CertificatePdf(const CertificateSheet& sheet);

}  // namespace k57
