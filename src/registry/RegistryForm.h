#pragma once
// Small pieces the registry pages share: remembered values of the editable lists, list tables,
// rights on buttons, and keys that the calibration page can still read back.

#include "store/rights.h"

#include <QString>

#include <functional>
#include <initializer_list>
#include <utility>

class QAbstractButton;
class QAbstractItemView;
class QComboBox;
class QTableWidget;
class QWidget;

namespace RegistryForm {

// Fills an editable list from its remembered values (DataSheet key), keeping the text shown.
void loadValues(QComboBox *box, const char *key);

// Remembers each list's current text under its key (an empty text is not remembered) and reloads
// the list, keeping the text; all of them even when one fails, then one warning "添加数据失败！"
// when any value could not be stored.
void rememberValues(QWidget *parent, std::initializer_list<std::pair<QComboBox *, const char *>> lists);

// Selects text in a list, adding it when the list lacks it, so that a stored value is never
// replaced by whatever the list happens to show. An empty text selects nothing new.
void selectOrAdd(QComboBox *box, const QString &text);

// Read-only, whole rows selected, one row selected at a time, columns sized to their contents.
void setUpList(QTableWidget *table);
// Every row removed; the header stays.
void clearList(QTableWidget *table);
// Appends one row of texts; returns its index.
int appendRow(QTableWidget *table, const QStringList &texts);

// The record key (the text in keyColumn) of the highlighted row: the current row while it is
// selected. Empty when no row is highlighted, so that an action never falls back on a row the
// user looked at before.
QString currentKey(const QAbstractItemView *view, int keyColumn);
// Highlights the row whose keyColumn reads key (after a refresh); false when none does.
bool selectKey(QTableWidget *table, int keyColumn, const QString &key);
// Calls open with the key of the row that has just become the highlighted one (mouse or keyboard).
void onHighlight(QTableWidget *table, int keyColumn, const std::function<void(const QString &)> &open);

// The question that names the record: "是否删除编号" + number + "（" + name + "）?".
QString deleteQuestion(const QString &number, const QString &name);
// Asks deleteQuestion (No is the default) and on Yes deletes with remove; a failed delete is
// reported with failText. True when the record was deleted.
bool confirmDelete(QWidget *parent, const QString &number, const QString &name,
                   const std::function<bool(const QString &)> &remove, const QString &failText);

// Enabled only when the logged-in user holds the right (Tool::hasRight).
void applyRight(QAbstractButton *button, Right right);

// Lists of records are offered as key + "--" + further columns, and the key is read back as the
// text before the first "--": a key holding "--" could never be chosen again.
bool isUsableKey(const QString &key);

} // namespace RegistryForm
