#pragma once

#include "app/Services.h"
#include "app/qt/IniSettingsStore.h"
#include "app/qt/QtFolders.h"
#include "chart/EngineApplicationFactory.h"
#include "sheet/Clock.h"

// The services that need no window: the settings file, the folders, the
// clock and the spreadsheet engine.
struct CoreServices {
    CoreServices()
    {
        services.settings = &settings;
        services.folders = &folders;
        services.clock = &clock;
        services.spreadsheets = &spreadsheets;
    }

    orv::IniSettingsStore settings;
    orv::QtFolders folders;
    orv::SystemClock clock;
    orv::chart::EngineApplicationFactory spreadsheets{clock};
    orv::Services services;
};
