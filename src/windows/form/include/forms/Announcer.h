#pragma once

#include <QWidget>

namespace forms {

// Speaks a message through assistive technology without taking the focus:
// an unseen notification whose text is the latest message. Screen readers
// read text that arrives in a box only while the box has the focus; a
// notification that shows is read wherever the focus is (and kept in the
// reader's list of notifications).
class Announcer : public QWidget
{
    Q_OBJECT

public:
    explicit Announcer(QWidget *parent = nullptr);

    QString message() const { return m_message; }
    // Does nothing while no assistive technology listens.
    void announce(const QString &message);

private:
    QString m_message;
};

} // namespace forms
