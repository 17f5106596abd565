// Receives the results of the discovery chain: for every accepted switch that answered a
// discovery, system information (260), then network settings (262), then warning state (7).
#pragma once

#include "core/Session.h"
#include "core/Services.h"

#include <functional>

class TFindHook : public Intp::TWizard {
public:
    using FilterGetter = std::function<Filter::TFilterServer*()>;
    using StatusGetter = std::function<Status::TStatusServer*()>;

    TFindHook(FilterGetter filter, StatusGetter status)
        : m_Filter(std::move(filter)), m_Status(std::move(status)) {}

    void OnResult(TDevice* device, uint16_t command, uint16_t status, const Intp::TResultData& data) override;

private:
    FilterGetter m_Filter;
    StatusGetter m_Status;
};
