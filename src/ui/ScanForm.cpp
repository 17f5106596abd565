#include "ScanForm.h"

#include "ui_ScanForm.h"

#include "net/AddressText.h"
#include "Dialogs.h"

#include <QCoreApplication>
#include <QTreeWidgetItem>

TScanForm::TScanForm(QWidget* parent)
    : QDialog(parent), m_Ui(std::make_unique<Ui::TScanForm>()), m_Lister(&Scan::ListInterfaces)
{
    m_Ui->setupUi(this);
    m_Ui->m_ListView->setColumnWidth(0, 60);
    m_Ui->m_ListView->setColumnWidth(1, 160);
    m_Ui->m_Privilege->hide();
    connect(m_Ui->m_Interfaces, &QComboBox::activated, this, &TScanForm::EventOnInterfaceChange);
    connect(m_Ui->m_Scan, &QPushButton::clicked, this, &TScanForm::EventOnScan);
    connect(m_Ui->m_Close, &QPushButton::clicked, this, &QDialog::reject);
    connect(&m_Worker, &TWinpcapThread::ReplyReceived, this, &TScanForm::AddRow);
    EventOnInterfaceChange();
}

TScanForm::~TScanForm() = default;

QString TScanForm::ResultText(TWinpcapThread::TResult result, const QString& name, const QString& error)
{
    switch (result) {
    case TWinpcapThread::srOk: return {};
    case TWinpcapThread::srNoInterface: return QStringLiteral("Invalid interface");
    case TWinpcapThread::srNoMac: return QStringLiteral("Unable to get a valid MAC address from interface %1").arg(name);
    case TWinpcapThread::srNoAddress: return QStringLiteral("Unable to get a valid IP address from interface %1").arg(name);
    case TWinpcapThread::srOpenFailed:
        return QStringLiteral("Unable to open the adapter. %1 is not supported by WinPcap").arg(name);
    case TWinpcapThread::srSendFailed:
        // The interface, as the other messages give it; the library's reason on a line of its own.
        return QStringLiteral("Error sending the packet: %1").arg(name) + (error.isEmpty() ? QString() : '\n' + error);
    case TWinpcapThread::srNoPermission:
        return QStringLiteral("Unable to open the adapter %1: capturing needs the CAP_NET_RAW capability.\n"
                              "Run the console as root, or grant it once with:\nsudo setcap cap_net_raw+ep %2")
            .arg(name, QCoreApplication::applicationFilePath());
    }
    return {};
}

void TScanForm::showEvent(QShowEvent* event)
{
    m_Interfaces.clear();
    m_Ui->m_Interfaces->clear();
    if (m_Lister && m_Lister(m_Interfaces)) {
        for (const Scan::TInterface& i : m_Interfaces) {
            QString text = QString::fromStdString(i.Name);
            if (!i.Description.empty())
                text += QStringLiteral(" : ") + QString::fromStdString(i.Description);
            m_Ui->m_Interfaces->addItem(text);
        }
    }
    // Shown, but chosen only when the operator picks an interface.
    m_Ui->m_Interfaces->setCurrentIndex(m_Interfaces.empty() ? -1 : 0);
    const bool allowed = Scan::CanCapture();
    m_Ui->m_Privilege->setVisible(!allowed);
    if (!allowed)
        m_Ui->m_Privilege->setText(
            QStringLiteral("Scanning sends and captures raw frames, which needs the CAP_NET_RAW capability. "
                           "Run the console as root, or grant it once with: sudo setcap cap_net_raw+ep %1")
                .arg(QCoreApplication::applicationFilePath()));
    QDialog::showEvent(event);
}

void TScanForm::hideEvent(QHideEvent* event)
{
    m_Worker.StopScan();
    m_Ui->m_ListView->clear();
    m_Interfaces.clear();
    m_Ui->m_Interfaces->clear();
    EventOnInterfaceChange();
    QDialog::hideEvent(event);
}

const Scan::TInterface* TScanForm::CurrentInterface() const
{
    return m_Current >= 0 && m_Current < int(m_Interfaces.size()) ? &m_Interfaces[size_t(m_Current)] : nullptr;
}

void TScanForm::EventOnInterfaceChange()
{
    m_Current = m_Ui->m_Interfaces->currentIndex();
    const Scan::TInterface* current = CurrentInterface();
    QString addresses;
    if (current)
        for (uint32_t address : current->Ipv4)
            addresses += AddressText(address) + QStringLiteral(", ");
    m_Ui->m_IpAddress->setText(addresses);
    for (QWidget* w : {static_cast<QWidget*>(m_Ui->m_IpAddressLabel), static_cast<QWidget*>(m_Ui->m_IpAddress),
                       static_cast<QWidget*>(m_Ui->m_Promiscuous), static_cast<QWidget*>(m_Ui->m_Scan)})
        w->setEnabled(current != nullptr);
}

// The list keeps the answers of earlier scans until the dialog closes; rows number on.
void TScanForm::EventOnScan()
{
    const Scan::TInterface* current = CurrentInterface();
    const TWinpcapThread::TResult result = m_Worker.StartScan(current, m_Ui->m_Promiscuous->isChecked());
    if (result != TWinpcapThread::srOk)
        Dialogs::Error(this, ResultText(result, current ? QString::fromStdString(current->Name) : QString(),
                                        QString::fromStdString(m_Worker.LastError())));
}

void TScanForm::AddRow(const TMacAddr& mac, uint32_t address)
{
    // An answer handed over just before the dialog closed has no list to go to.
    if (!isVisible())
        return;
    auto* row = new QTreeWidgetItem(m_Ui->m_ListView);
    row->setText(0, QString::number(m_Ui->m_ListView->topLevelItemCount()));
    row->setText(1, QString::fromStdString(mac.Text()));
    row->setText(2, AddressText(address));
}
