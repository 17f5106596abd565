// "Upgrade": loads a firmware image into every listed switch (see TModuleBasicsFileLoad).
#pragma once

#include "ModuleBasics_Restore.h"

class TModuleBasicsUpgrade : public TModuleBasicsFileLoad {
    Q_OBJECT
public:
    explicit TModuleBasicsUpgrade(QWidget* parent = nullptr);
};
