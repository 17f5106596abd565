// The front-panel banner of the KX40 models ("Link State"): the selected switch's address,
// its eight ports coloured by link, the status monitor's flags, its syslog counts and the
// redundancy protocol it runs; refreshed every 5 seconds while shown.
#pragma once

#include "ui/Module.h"

#include <QImage>
#include <QTimer>
#include <QWidget>

#include <array>
#include <memory>

class QLabel;

namespace Ui {
class TModuleBannerKorvex700G;
}

class TModuleBannerKorvex700G : public QWidget, public TModule {
    Q_OBJECT
public:
    explicit TModuleBannerKorvex700G(QWidget* parent = nullptr);
    ~TModuleBannerKorvex700G() override;

    QString GetName() const override { return QStringLiteral("Link State"); }
    QWidget* GetControl() override { return this; }
    void Notify(TDevice* device, uint16_t code, uint16_t status) override;
    bool Hide(bool force) override;
    int Refresh(bool) override { return 0; }

    // Port colours: 0 no data or no such port, 1 no link, 2 link up.
    enum { pcNone, pcDown, pcUp };
    // Status colours: 0 no data, 1 good, 2 error.
    enum { scNone, scGood, scError };
    static constexpr int PortCount = 8;
    // The point inside the socket of port i + 1.
    static QPoint PortPoint(int i) { return {(i / 2) * 34 + 5, (i % 2) * 32 + 16}; }
    static QColor PortColour(int index);
    static QColor StatusColour(int index);
    // The port picture with each port's socket flood-filled in its colour.
    static QImage PortPicture(const std::array<int, PortCount>& colours);

    const QTimer& Timer() const { return m_Timer; }

private:
    void ShowStatus(TDevice* device);
    void ShowSyslog(TDevice* device);
    void ShowRedundancy(TDevice* device);
    void Tick();
    void SetSquare(QLabel* square, int index);
    void EventOnIconClick();
    void EventOnOpenLog();

    std::unique_ptr<Ui::TModuleBannerKorvex700G> m_Ui;
    QTimer m_Timer;
};
