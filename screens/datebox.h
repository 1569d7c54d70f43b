#pragma once
// A date box of the register screens: "dd/mm/yyyy" typed through a mask, or picked
// from a calendar; empty means no date (NULL).
#include <QLineEdit>

#include <optional>

#include "data/datetime.h"

class QCalendarWidget;

namespace tcese::screens {

class DateBox : public QLineEdit {
    Q_OBJECT
public:
    explicit DateBox(QWidget* parent = nullptr);

    bool isBlank() const;
    // The date typed; nullopt when blank or not a real date.
    std::optional<Date> date() const;
    void setDate(const std::optional<Date>& d);
    // Blank or a real date.
    bool isValidInput() const { return isBlank() || date().has_value(); }

    void showCalendar();

private:
    QCalendarWidget* calendar_ = nullptr;
};

}  // namespace tcese::screens
