#include "controls/DateField.h"

#include "controls/FieldLink.h"
#include "controls/LineEntryHabits.h"
#include "controls/ValidatedEdit.h"
#include "data/Global.h"
#include "data/Table.h"

#include <QAction>
#include <QCalendarWidget>
#include <QFrame>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QStyle>
#include <QVBoxLayout>

namespace nerova {

namespace {

std::optional<QVariant> dateValue(const QString& text) {
    if (const auto d = DateField::parseDate(text))
        return QVariant(*d);
    return std::nullopt;
}

} // namespace

DateField::DateField(Table& table, const QString& column, QWidget* parent)
    : QLineEdit(parent), m_link(new FieldLink(table, column, this, [this] { refresh(); })),
      m_habits(new LineEntryHabits(this)),
      m_validated(
          new ValidatedEdit(this, m_link, dateValue, QStringLiteral("%1 is not a valid date."))) {
    setInputMask(QStringLiteral("99/99/99;_"));
    setAccessibleDescription(column);
    m_drop = addAction(style()->standardIcon(QStyle::SP_ArrowDown), QLineEdit::TrailingPosition);
    m_drop->setToolTip(tr("Calendar"));
    connect(m_drop, &QAction::triggered, this, &DateField::showCalendar);
    connect(this, &QLineEdit::textEdited, this, &DateField::userEdited);
    refresh();
}

QString DateField::column() const {
    return m_link->column();
}

void DateField::setAccess(FieldAccess access) {
    m_access = access;
    setReadOnly(access != FieldAccess::Normal);
    m_drop->setVisible(access == FieldAccess::Normal);
    applyFieldAccessLook(this, access);
}

bool DateField::refusesInput() const {
    return isReadOnly() || !isEnabled();
}

std::optional<QDate> DateField::parseDate(const QString& text) {
    static const QRegularExpression shape(
        QStringLiteral("^\\s*(\\d{1,2})/(\\d{1,2})/(\\d{2})\\s*$"));
    const auto m = shape.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const QDate d(2000 + m.captured(3).toInt(), m.captured(1).toInt(), m.captured(2).toInt());
    if (!d.isValid())
        return std::nullopt;
    return d;
}

QString DateField::formatDate(const QDate& date) {
    return QStringLiteral("%1/%2/%3")
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'))
        .arg(date.year() % 100, 2, 10, QLatin1Char('0'));
}

QString DateField::typedText() const {
    QString shown = displayText();
    bool typed = false;
    for (QChar& c : shown) {
        if (c == QLatin1Char('_'))
            c = QLatin1Char(' ');
        else if (c.isDigit())
            typed = true;
    }
    return typed ? shown.trimmed() : QString();
}

void DateField::refresh() {
    const QVariant v = m_link->value();
    QString text;
    if (!v.isNull()) {
        const QDate d = v.toDate();
        if (d.isValid())
            text = formatDate(d);
    }
    if (text != typedText())
        setText(text);
    m_validated->ended();
}

void DateField::userEdited() {
    m_validated->edited(typedText());
}

void DateField::enterDate(const QDate& date) {
    if (refusesInput())
        return;
    if (m_validated->enter(date)) {
        setText(formatDate(date));
        setCursorPosition(text().size());
    }
}

void DateField::keyPressEvent(QKeyEvent* event) {
    if (event->text() == QLatin1String("/")) {
        // The mask steps over its own separators, so "/" is free to mean "today".
        enterDate(today());
        event->accept();
        return;
    }
    if ((event->key() == Qt::Key_Down && (event->modifiers() & Qt::AltModifier)) ||
        event->key() == Qt::Key_F4) {
        showCalendar();
        event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void DateField::keyReleaseEvent(QKeyEvent* event) {
    QLineEdit::keyReleaseEvent(event);
    Q_EMIT keyReleased(event->key());
}

void DateField::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    m_habits->focusIn(event);
}

void DateField::focusOutEvent(QFocusEvent* event) {
    QLineEdit::focusOutEvent(event);
    if (!isCalendarVisible())
        m_validated->left(event, typedText());
}

QCalendarWidget* DateField::calendar() {
    if (!m_calendar) {
        m_popup = new QFrame(this, Qt::Popup);
        m_popup->setFrameShape(QFrame::Box);
        auto* layout = new QVBoxLayout(m_popup);
        layout->setContentsMargins(1, 1, 1, 1);
        m_calendar = new QCalendarWidget(m_popup);
        m_calendar->setFirstDayOfWeek(Qt::Sunday);
        m_calendar->setGridVisible(true);
        layout->addWidget(m_calendar);
        connect(m_calendar, &QCalendarWidget::activated, this, [this](QDate d) {
            m_popup->hide();
            enterDate(d);
        });
        connect(m_calendar, &QCalendarWidget::clicked, this, [this](QDate d) {
            m_popup->hide();
            enterDate(d);
        });
    }
    return m_calendar;
}

bool DateField::isCalendarVisible() const {
    return m_popup && m_popup->isVisible();
}

void DateField::showCalendar() {
    if (refusesInput())
        return;
    QCalendarWidget* cal = calendar();
    const auto shown = parseDate(typedText());
    cal->setSelectedDate(shown ? *shown : today());
    m_popup->adjustSize();
    m_popup->move(mapToGlobal(QPoint(0, height())));
    m_popup->show();
    cal->setFocus();
}

} // namespace nerova
