#include "app/window_widgets.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <algorithm>

#include "common/text.h"

PlanTextEdit::PlanTextEdit(QWidget* parent) : QPlainTextEdit(parent) {
    // Read-only keeps typing, pasting, dropping and input-method text out; selection and
    // copying stay possible.
    setReadOnly(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setContextMenuPolicy(Qt::NoContextMenu);
    setUndoRedoEnabled(false);
    setAcceptDrops(false);
    setAttribute(Qt::WA_InputMethodEnabled, false);
}

void PlanTextEdit::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Cut)) {
        copy();
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void PlanTextEdit::inputMethodEvent(QInputMethodEvent* event) { event->accept(); }

bool PlanTextEdit::canInsertFromMimeData(const QMimeData*) const { return false; }

void PlanTextEdit::insertFromMimeData(const QMimeData*) {}

BetCountEdit::BetCountEdit(QWidget* parent) : QAbstractSpinBox(parent) {
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    setCorrectionMode(QAbstractSpinBox::CorrectToPreviousValue);
    setKeyboardTracking(true);
}

void BetCountEdit::setLimits(int lower, int upper) {
    lower_ = lower;
    upper_ = upper;
    update();
}

void BetCountEdit::setText(const QString& text) { lineEdit()->setText(text); }

void BetCountEdit::stepBy(int steps) {
    const int current = sscplan::textToInt(text().toStdString());
    const long long next = static_cast<long long>(current) + steps;
    const long long low = std::min(lower_, upper_);
    const long long high = std::max(lower_, upper_);
    setText(QString::number(std::clamp(next, low, high)));
    selectAll();
}

QValidator::State BetCountEdit::validate(QString&, int&) const { return QValidator::Acceptable; }

QAbstractSpinBox::StepEnabled BetCountEdit::stepEnabled() const {
    return StepUpEnabled | StepDownEnabled;
}

void BetCountEdit::focusOutEvent(QFocusEvent* event) {
    QAbstractSpinBox::focusOutEvent(event);
    if (focusLost_) focusLost_();
}
