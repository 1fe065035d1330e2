#pragma once

#include <QTranslator>

namespace k57 {

// The Russian texts of Qt's own dialogs that the shipped Qt translation
// lacks (the file dialog's "Folder" in its type column, among others).
// Installed before that translation, so it answers only what the
// translation leaves untranslated.
class QtTextSupplement : public QTranslator {
  public:
    using QTranslator::QTranslator;
    QString translate(const char* context, const char* sourceText, const char* disambiguation,
                      int n) const override;
    bool isEmpty() const override { return false; }
};

}  // namespace k57
