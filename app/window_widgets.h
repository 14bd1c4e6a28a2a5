#pragma once

#include <QAbstractSpinBox>
#include <QPlainTextEdit>
#include <functional>

// The plan text box: its text can be selected and copied but not changed. Cut only
// copies; there is no context menu.
class PlanTextEdit final : public QPlainTextEdit {
  public:
    explicit PlanTextEdit(QWidget* parent);

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    // A read-only box still takes input-method text and drops; these refuse both.
    void inputMethodEvent(QInputMethodEvent* event) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;
};

// An edit box with spin buttons whose text is free: the limits bind only the buttons, so a
// typed number outside them stays as typed until the caller clamps it.
class BetCountEdit final : public QAbstractSpinBox {
  public:
    explicit BetCountEdit(QWidget* parent);

    void setLimits(int lower, int upper);
    void setText(const QString& text);
    // Called whenever the box loses the keyboard focus.
    void setFocusLostHandler(std::function<void()> handler) { focusLost_ = std::move(handler); }

    void stepBy(int steps) override;
    QValidator::State validate(QString& input, int& pos) const override;

  protected:
    StepEnabled stepEnabled() const override;
    void focusOutEvent(QFocusEvent* event) override;

  private:
    int lower_ = 0;
    int upper_ = 0;
    std::function<void()> focusLost_;
};
