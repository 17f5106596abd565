// The login dialog: user name and password, at most 16 characters each. Created once, so
// the last entries stay filled in.
#pragma once

#include <QDialog>

#include <memory>
#include <string>

namespace Ui {
class TLoginForm;
}

class TLoginForm : public QDialog {
    Q_OBJECT
public:
    explicit TLoginForm(QWidget* parent = nullptr);
    ~TLoginForm() override;

    std::string User() const;
    std::string Password() const;

private:
    void EventOnChange();
    void EventOnLogin();

    std::unique_ptr<Ui::TLoginForm> m_Ui;
};
