#include "ui/OptimizationHelp.h"

#include <QPlainTextEdit>
#include <QShowEvent>
#include <QVBoxLayout>

#include "ui/WindowPlacement.h"

namespace tavorix {

const char* const kOptimizationText =
    " The optimized parameters M and sigma in the normal probability distribution\n"
    "\n"
    " The normal cumulative distribution has no closed formula. Tavorix uses the\n"
    " approximation of Hastings for it, with the standardised variable\n"
    "\n"
    "      x = (X - M) / Sigma\n"
    "\n"
    " where M is a mean and Sigma a standard deviation.\n"
    "\n"
    " The usual way is to take M equal to the average Av of the data and Sigma\n"
    " equal to their standard deviation Std. The optimized form does not stop\n"
    " there: it tries a range of values of M around Av and a range of values\n"
    " of Sigma around Std, computes the cumulative frequencies of each pair, and\n"
    " compares them with the observed cumulative frequencies CF = i/(n+1), where\n"
    " i is the rank of a value and n the number of data.\n"
    "\n"
    " The pair with the smallest average absolute difference between observed\n"
    " and calculated cumulative frequency is kept. Its values are reported as\n"
    " the \"optimized mean\" and the \"optimized standard error\".\n"
    "\n"
    " The root-normal, square-normal and log-normal distributions are treated\n"
    " in the same way, with sqrt(X), X^2 or Ln(X) in place of X.\n";

OptimizationHelp::OptimizationHelp(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("OptimizationHelp");
  setWindowTitle("Explanation optimization");
  auto* text = new QPlainTextEdit(this);
  text->setObjectName("OptimizationText");
  text->setReadOnly(true);
  text->setPlainText(kOptimizationText);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(text);
  resize(560, 420);
  CloseOnEscape(this);
}

void OptimizationHelp::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!event->spontaneous()) PlaceOverActiveWindow(this);
}

}  // namespace tavorix
