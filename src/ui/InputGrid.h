#pragma once
// The grid of values of the Input page: a table model over the session's
// cells (column 0 the serial number, column 1 the value), the view with
// spreadsheet keys (Enter moves down, a rectangular selection) and the
// in-place editor, whose pastes take the whole clipboard.

#include <QAbstractTableModel>
#include <QLineEdit>
#include <QStyledItemDelegate>
#include <QTableView>
#include <functional>

#include "core/Session.h"

namespace tavorix {

class TGridModel : public QAbstractTableModel {
  Q_OBJECT

 public:
  TGridModel(TSession& session, QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;
  bool setData(const QModelIndex& index, const QVariant& value, int role) override;

  // Brings the model in step with the session after the session changed:
  // rows added or removed at the end are announced as such, every cell as changed.
  void Sync();
  // One value cell changed.
  void CellChanged(int row);

 signals:
  // The user edited a value cell.
  void CellEdited(int column, int row, const QString& text);

 private:
  TSession& session_;
  int shownRows_ = 0;  // the rows the views know of
};

// The in-place editor: a paste takes the clipboard whole instead of the
// line edit's 32 767 characters; Enter commits and moves down.
class TGridEditor : public QLineEdit {
  Q_OBJECT

 public:
  using QLineEdit::QLineEdit;
  std::function<void()> PasteClipboard;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
};

class TGridView : public QTableView {
  Q_OBJECT

 public:
  using QTableView::QTableView;

  // The first and last row of the selection (or the current row), -1 when none.
  std::pair<int, int> SelectedRows() const;
  // The values of the selected rows, one line per row: the serial column is
  // a row label and is not copied.
  QString SelectedText() const;
  // Moves the current cell one row down (Enter); on the last row a new row
  // is added first, through AddRow.
  void MoveDown();
  std::function<void()> AddRow;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
};

class TGridDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  // paste(column, row, text): a multi-line text reached the editor, or the
  // user pasted into it.
  TGridDelegate(TGridView* view, std::function<void(int, int, const QString&)> paste);

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
  bool eventFilter(QObject* object, QEvent* event) override;

 private:
  TGridView* view_;
  std::function<void(int, int, const QString&)> paste_;
};

}  // namespace tavorix
