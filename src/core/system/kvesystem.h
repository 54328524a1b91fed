#pragma once

#include "centralbaseclass.h"

class BaseScreen;
class Hardware;

// The system object of the control unit.
class KveSystem : public CentralBaseClass
{
    Q_OBJECT
public:
    explicit KveSystem(QObject *parent = nullptr);
    ~KveSystem() override;

    bool simulationControlRequested() const { return m_simulationControlRequested; }
    BaseScreen *baseScreen() const;
    Hardware *hardware() const { return m_hardware; }

protected:
    void handleUnrecognisedArgument(const QString &arg) override;
    void constructSystem(const QString &interfaceName) override;
    QWidget *createMainScreen() override;
    void afterDisplayShown() override;
    void afterLocalSfiWiring() override;

private:
    bool m_simulationControlRequested = false;
    Hardware *m_hardware = nullptr;
};
