#pragma once

#include <functional>
#include <vector>

#include <QString>
#include <QStringList>

class QWidget;

namespace k57::test {

// One text a window shows: where it stands ("ClassName objectName: what")
// and the text itself.
struct ShownText {
    QString where;
    QString text;
};

// Every text a widget tree can show the user, hidden parts included (they
// show later): window titles, label and button texts, group box titles,
// tooltips and status tips, placeholders, combo box items, tab texts, the
// texts of every action in the widgets' menus (submenus too), the headers
// and items of item views, spin box prefixes and suffixes, progress formats.
// The contents of text editors are data, not the program's words, and are
// left out.
std::vector<ShownText> ShownTexts(QWidget& root);

// True when `text` holds a Cyrillic letter.
bool HasCyrillic(const QString& text);

// "where: text" of every shown text with Cyrillic in it that `allowed`
// does not accept (texts from the catalogue or from the unit, say).
QStringList CyrillicTexts(QWidget& root,
                          const std::function<bool(const QString&)>& allowed = {});

}  // namespace k57::test
