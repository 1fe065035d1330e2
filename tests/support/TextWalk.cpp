#include "TextWalk.h"

#include <QAbstractButton>
#include <QAbstractItemModel>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QAction>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSet>
#include <QSpinBox>
#include <QTabBar>
#include <QTextEdit>
#include <QWidget>

namespace k57::test {

namespace {

class Walk {
  public:
    std::vector<ShownText> texts;

    void widget(QWidget& w) {
        const QString name =
            QString("%1 %2").arg(w.metaObject()->className(), w.objectName()).trimmed();
        if (w.isWindow()) {
            add(name, "window title", w.windowTitle());
        }
        add(name, "tooltip", w.toolTip());
        add(name, "status tip", w.statusTip());
        add(name, "what's this", w.whatsThis());
        if (auto* label = qobject_cast<QLabel*>(&w)) {
            add(name, "text", label->text());
        }
        if (auto* button = qobject_cast<QAbstractButton*>(&w)) {
            add(name, "text", button->text());
        }
        if (auto* group = qobject_cast<QGroupBox*>(&w)) {
            add(name, "title", group->title());
        }
        if (auto* line = qobject_cast<QLineEdit*>(&w)) {
            add(name, "placeholder", line->placeholderText());
        }
        if (auto* plain = qobject_cast<QPlainTextEdit*>(&w)) {
            add(name, "placeholder", plain->placeholderText());
        }
        if (auto* rich = qobject_cast<QTextEdit*>(&w)) {
            add(name, "placeholder", rich->placeholderText());
        }
        if (auto* combo = qobject_cast<QComboBox*>(&w)) {
            for (int i = 0; i < combo->count(); ++i) {
                add(name, QString("item %1").arg(i), combo->itemText(i));
            }
        }
        if (auto* tabs = qobject_cast<QTabBar*>(&w)) {
            for (int i = 0; i < tabs->count(); ++i) {
                add(name, QString("tab %1").arg(i), tabs->tabText(i));
                add(name, QString("tab %1 tooltip").arg(i), tabs->tabToolTip(i));
            }
        }
        if (auto* spin = qobject_cast<QSpinBox*>(&w)) {
            add(name, "prefix", spin->prefix());
            add(name, "suffix", spin->suffix());
        }
        if (auto* spin = qobject_cast<QDoubleSpinBox*>(&w)) {
            add(name, "prefix", spin->prefix());
            add(name, "suffix", spin->suffix());
        }
        if (auto* spin = qobject_cast<QAbstractSpinBox*>(&w)) {
            add(name, "special value", spin->specialValueText());
        }
        if (auto* progress = qobject_cast<QProgressBar*>(&w)) {
            add(name, "format", progress->format());
        }
        // A header shows its view's model again: the view itself covers it.
        auto* view = qobject_cast<QAbstractItemView*>(&w);
        if (view && view->model() && !qobject_cast<QHeaderView*>(&w)) {
            model(name, *view->model());
        }
        for (QAction* action : w.actions()) {
            this->action(name, *action);
        }
        for (QObject* child : w.children()) {
            if (auto* c = qobject_cast<QWidget*>(child)) {
                widget(*c);
            }
        }
    }

  private:
    void add(const QString& where, const QString& what, const QString& text) {
        if (!text.isEmpty()) {
            texts.push_back({where + ": " + what, text});
        }
    }

    void action(const QString& owner, QAction& a) {
        if (!actions_.contains(&a)) {
            actions_.insert(&a);
            const QString name = owner + " > action " + a.objectName();
            add(name, "text", a.text());
            if (a.toolTip() != QString(a.text()).remove('&')) {
                add(name, "tooltip", a.toolTip());
            }
            add(name, "status tip", a.statusTip());
            if (QMenu* menu = a.menu()) {
                add(name, "menu title", menu->title());
                for (QAction* item : menu->actions()) {
                    action(name, *item);
                }
            }
        }
    }

    void model(const QString& name, const QAbstractItemModel& m) {
        for (Qt::Orientation o : {Qt::Horizontal, Qt::Vertical}) {
            const int sections = o == Qt::Horizontal ? m.columnCount() : m.rowCount();
            for (int s = 0; s < sections; ++s) {
                // Row numbers are Qt's default vertical header: not a text.
                QString header = m.headerData(s, o, Qt::DisplayRole).toString();
                if (header != QString::number(s + 1)) {
                    add(name, QString("header %1").arg(s), header);
                }
                add(name, QString("header %1 tooltip").arg(s),
                    m.headerData(s, o, Qt::ToolTipRole).toString());
            }
        }
        items(name, m, QModelIndex());
    }

    void items(const QString& name, const QAbstractItemModel& m, const QModelIndex& parent) {
        for (int row = 0; row < m.rowCount(parent); ++row) {
            for (int column = 0; column < m.columnCount(parent); ++column) {
                QModelIndex index = m.index(row, column, parent);
                const QString where = QString("item %1,%2").arg(row).arg(column);
                add(name, where, index.data(Qt::DisplayRole).toString());
                add(name, where + " tooltip", index.data(Qt::ToolTipRole).toString());
                if (column == 0) {
                    items(name, m, index);
                }
            }
        }
    }

    QSet<QAction*> actions_;
};

}  // namespace

std::vector<ShownText> ShownTexts(QWidget& root) {
    Walk walk;
    walk.widget(root);
    return walk.texts;
}

bool HasCyrillic(const QString& text) {
    for (QChar c : text) {
        if (c.unicode() >= 0x0400 && c.unicode() <= 0x04FF) {
            return true;
        }
    }
    return false;
}

QStringList CyrillicTexts(QWidget& root, const std::function<bool(const QString&)>& allowed) {
    QStringList found;
    for (const ShownText& shown : ShownTexts(root)) {
        if (HasCyrillic(shown.text) && !(allowed && allowed(shown.text))) {
            found << shown.where + ": " + shown.text;
        }
    }
    return found;
}

}  // namespace k57::test
