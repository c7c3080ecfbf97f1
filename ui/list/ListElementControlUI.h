#pragma once

#include "ui/list/RerListElementUI.h"

// The base of the concrete rows of both file lists.
class ListElementControlUI : public RerListElementUI {
public:
    using RerListElementUI::RerListElementUI;
};
