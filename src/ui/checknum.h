#pragma once

#include <QLineEdit>
#include <QObject>
#include <QPointer>
#include <optional>


namespace ui {

// Turns a line edit into a box for non-negative numbers: only digits (and,
// with AllowDec, one decimal point) can be typed, extra decimals are cut
// while typing, and with AllowDec the value is shown with DecPlaces decimals
// when the box gains or loses the focus. A value outside Min..Max raises
// validateError when the box is left; a handler that sets *cancel keeps the
// focus in the box.
class CheckNum : public QObject {
    Q_OBJECT
public:
    explicit CheckNum(QObject* parent = nullptr);

    void setTextBox(QLineEdit* box);
    QLineEdit* textBox() const { return m_box; }

    std::optional<double> Min;
    std::optional<double> Max;

    bool allowDec() const { return m_allowDec; }
    void setAllowDec(bool allow) { m_allowDec = allow; }
    int decPlaces() const { return m_decPlaces; }
    void setDecPlaces(int places) { m_decPlaces = places < 0 ? 0 : places; }

    // Checks the value against Min and Max; false when a handler cancelled.
    bool validate();

signals:
    void validateError(bool* cancel);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool acceptKey(const QString& typed);
    void cutDecimals();
    void formatText();

    QPointer<QLineEdit> m_box;
    bool m_allowDec = false;
    int m_decPlaces = 2;
    bool m_pointTyped = false;
};

}  // namespace ui
