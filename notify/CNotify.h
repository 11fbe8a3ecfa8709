#pragma once

#include <QObject>
#include <QString>

class frmInfo;

// The component's one class: games create it by name and call Notify once.
class CNotify : public QObject {
    Q_OBJECT
public:
    explicit CNotify(QObject* parent = nullptr);
    ~CNotify() override;

    // Shows the notification window for the product strName unless the player
    // turned it off; returns at once and leaves the window to the player.
    // strOther is accepted for the callers' sake and not used.
    Q_INVOKABLE void Notify(QString strName, QString strOther = QString());

    // The window the component has loaded in this process, if the player has not
    // closed it.
    static frmInfo* Window();
    // How many objects of the class are alive in this process.
    static int Instances();

    // The address of the maker's notification page for a product.
    static QString NotifyAddress(const QString& strName);
};
