#pragma once

#include <QDialog>

class QProgressBar;

// Small modeless window showing the progress of a long operation as a bar from 0 to 100.
class ProgressDialog : public QDialog {
    Q_OBJECT
public:
    explicit ProgressDialog(QWidget* parent = nullptr);

    // percent: 0 to 100. The bar is repainted at once, since the operation runs on the
    // user-interface thread.
    void setPos(int percent);
    [[nodiscard]] int pos() const;

private:
    QProgressBar* m_bar = nullptr;
};
