#pragma once

#include <QDialog>
#include <QString>

class QPlainTextEdit;

namespace tess::widgets {

// Shows one supported game's comment.
class frmDetails : public QDialog {
    Q_OBJECT
public:
    explicit frmDetails(QWidget* parent = nullptr);

    // The text in the text box.
    void setMessage(const QString& message);
    QString message() const;

private:
    QPlainTextEdit* txtDetails_;
};

}  // namespace tess::widgets
