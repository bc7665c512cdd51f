#include "ui/InputGrid.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMenu>
#include <QPalette>
#include <QTimer>
#include <algorithm>

namespace tavorix {

TGridModel::TGridModel(TSession& session, QObject* parent)
    : QAbstractTableModel(parent), session_(session), shownRows_(session.RowCount()) {}

int TGridModel::rowCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : shownRows_; }

int TGridModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : 2; }

QVariant TGridModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= session_.RowCount()) return {};
  if (role == Qt::DisplayRole || role == Qt::EditRole) {
    if (index.column() == 0) return QString::number(index.row() + 1);
    return QString::fromStdString(session_.Cells[index.row()]);
  }
  if (role == Qt::BackgroundRole && index.column() == 0) return QApplication::palette().button();
  return {};
}

QVariant TGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal) return section == 0 ? QString("Serial Nr.") : QString("Data value");
  return QString::number(section + 1);
}

Qt::ItemFlags TGridModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (index.column() == 1) f |= Qt::ItemIsEditable;
  return f;
}

bool TGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
  if (role != Qt::EditRole || !index.isValid() || index.column() != 1) return false;
  const QString text = value.toString();
  if (text.contains('\t') || text.contains('\r') || text.contains('\n')) {
    // A paste changes the rows: done once the view has left its editor.
    const int row = index.row();
    QTimer::singleShot(0, this, [this, row, text] { emit CellEdited(1, row, text); });
    return true;
  }
  emit CellEdited(index.column(), index.row(), text);
  return true;
}

void TGridModel::Sync() {
  const int rows = session_.RowCount();
  if (rows > shownRows_) {
    beginInsertRows(QModelIndex(), shownRows_, rows - 1);
    shownRows_ = rows;
    endInsertRows();
  } else if (rows < shownRows_) {
    beginRemoveRows(QModelIndex(), rows, shownRows_ - 1);
    shownRows_ = rows;
    endRemoveRows();
  }
  if (rows > 0) emit dataChanged(index(0, 0), index(rows - 1, 1), {Qt::DisplayRole, Qt::EditRole});
}

void TGridModel::CellChanged(int row) {
  const QModelIndex i = index(row, 1);
  emit dataChanged(i, i, {Qt::DisplayRole, Qt::EditRole});
}

// --- editor --------------------------------------------------------------

void TGridEditor::keyPressEvent(QKeyEvent* event) {
  if (event->matches(QKeySequence::Paste) && PasteClipboard) {
    PasteClipboard();
    return;
  }
  QLineEdit::keyPressEvent(event);
}

void TGridEditor::contextMenuEvent(QContextMenuEvent* event) {
  QMenu* menu = createStandardContextMenu();
  if (PasteClipboard) {
    for (QAction* a : menu->actions()) {
      if (a->objectName() != "edit-paste") continue;
      a->disconnect();
      connect(a, &QAction::triggered, this, [this] { PasteClipboard(); });
    }
  }
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(event->globalPos());
}

// --- view ----------------------------------------------------------------

std::pair<int, int> TGridView::SelectedRows() const {
  const QModelIndexList cells = selectionModel() ? selectionModel()->selectedIndexes() : QModelIndexList();
  if (cells.isEmpty()) {
    const int row = currentIndex().isValid() ? currentIndex().row() : -1;
    return {row, row};
  }
  int first = cells.front().row(), last = first;
  for (const QModelIndex& i : cells) {
    first = std::min(first, i.row());
    last = std::max(last, i.row());
  }
  return {first, last};
}

QString TGridView::SelectedText() const {
  const auto [first, last] = SelectedRows();
  if (first < 0) return {};
  // The selection is one block of rows (or the current cell).
  QString text;
  for (int r = first; r <= last; ++r) text += model()->index(r, 1).data().toString() + '\n';
  return text;
}

void TGridView::MoveDown() {
  const QModelIndex current = currentIndex();
  if (!current.isValid()) return;
  if (current.row() + 1 >= model()->rowCount()) {
    if (!AddRow) return;
    AddRow();
    if (current.row() + 1 >= model()->rowCount()) return;
  }
  setCurrentIndex(model()->index(current.row() + 1, current.column()));
}

void TGridView::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && state() != EditingState) {
    MoveDown();
    return;
  }
  QTableView::keyPressEvent(event);
}

// --- delegate ------------------------------------------------------------

TGridDelegate::TGridDelegate(TGridView* view, std::function<void(int, int, const QString&)> paste)
    : QStyledItemDelegate(view), view_(view), paste_(std::move(paste)) {}

QWidget* TGridDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const {
  auto* editor = new TGridEditor(parent);
  editor->setObjectName("DataGridEditor");
  editor->setFrame(false);
  const int row = index.row(), column = index.column();
  auto* self = const_cast<TGridDelegate*>(this);
  editor->PasteClipboard = [self, editor, row, column] {
    const QString text = QGuiApplication::clipboard()->text();
    if (!text.contains('\t') && !text.contains('\r') && !text.contains('\n') && text.size() <= int(kMaximumPastedLine)) {
      editor->insert(text);  // one value: into the cell as typed
      return;
    }
    emit self->closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
    self->paste_(column, row, text);
  };
  // A line end that reaches the editor some other way (dropped text) is a paste too.
  connect(editor, &QLineEdit::textChanged, editor, [self, editor, row, column](const QString& text) {
    if (!text.contains('\t') && !text.contains('\r') && !text.contains('\n')) return;
    QSignalBlocker block(editor);
    emit self->closeEditor(editor, QAbstractItemDelegate::RevertModelCache);
    self->paste_(column, row, text);
  });
  return editor;
}

bool TGridDelegate::eventFilter(QObject* object, QEvent* event) {
  auto* editor = qobject_cast<QWidget*>(object);
  if (editor && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      emit commitData(editor);
      emit closeEditor(editor, QAbstractItemDelegate::NoHint);
      view_->MoveDown();
      return true;
    }
  }
  return QStyledItemDelegate::eventFilter(object, event);
}

}  // namespace tavorix
