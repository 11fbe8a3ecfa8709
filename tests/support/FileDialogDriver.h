#pragma once

#include <QApplication>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <utility>

// Plays the user for the real file dialogs a test opens: each step acts on the
// next file dialog that comes up (it may inspect it, pick a file, accept or
// reject it); a message box in between is recorded and closed. A dialog that
// comes up with no step left, or stays up after its step, is rejected so a test
// never waits for a user.
class FileDialogDriver {
public:
    using Step = std::function<void(QFileDialog&)>;

    explicit FileDialogDriver(QList<Step> steps) : m_steps(std::move(steps))
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start(10);
    }

    QStringList messages;  // texts of the message boxes closed on the way
    int unexpected = 0;    // dialogs rejected because no step was left or one stayed up

    // Presses the dialog's accept button; it checks the choice as it would for a user.
    static void confirm(QFileDialog& dialog) { static_cast<QDialog&>(dialog).accept(); }

    // Types a name into the dialog's name box, as a user would; selectFile() does
    // not change the box while it has the focus.
    static void type(QFileDialog& dialog, const QString& name)
    {
        if (auto* edit = dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
            edit->setText(name);
        else
            dialog.selectFile(name);
    }

    static Step accept(const QString& path)
    {
        return [path](QFileDialog& dialog) {
            type(dialog, path);
            confirm(dialog);
        };
    }
    static Step reject()
    {
        return [](QFileDialog& dialog) { dialog.reject(); };
    }

private:
    void poll()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            messages << box->text();
            box->done(QMessageBox::Ok);
            m_acted = nullptr;
            return;
        }
        auto* dialog = qobject_cast<QFileDialog*>(modal);
        if (!dialog) {
            m_acted = nullptr;
            return;
        }
        if (dialog == m_acted) {
            // The same dialog still up: the step did not close it.
            if (m_since.elapsed() > 3000) {
                ++unexpected;
                dialog->reject();
            }
            return;
        }
        m_acted = dialog;
        m_since.start();
        // Once it closes, the next show is a new question even if the same dialog
        // object (or one at the same address) comes up again.
        QObject::connect(
            dialog, &QDialog::finished, &m_timer, [this] { m_acted = nullptr; },
            Qt::SingleShotConnection);
        if (m_steps.isEmpty()) {
            ++unexpected;
            dialog->reject();
            return;
        }
        m_steps.takeFirst()(*dialog);
    }

    QList<Step> m_steps;
    QTimer m_timer;
    QFileDialog* m_acted = nullptr;
    QElapsedTimer m_since;
};
