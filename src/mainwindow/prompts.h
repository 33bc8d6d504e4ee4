#pragma once

#include <QString>

class QWidget;

// Message boxes the main window shows. Tests hand in their own answers
// through this seam instead of clicking real dialogs.
class Prompts
{
public:
    virtual ~Prompts() = default;

    // An error: title "Error", exclamation icon, OK.
    virtual void error(QWidget* parent, const QString& text) = 0;
};

// The real message boxes.
class MessageBoxPrompts : public Prompts
{
public:
    void error(QWidget* parent, const QString& text) override;
};
