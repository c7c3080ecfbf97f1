#pragma once

class CContainerUI;

// A list that knows how to configure itself and join the layout control that shows it.
class ILayerListUI {
public:
    virtual ~ILayerListUI() = default;
    // Configures the list and adds it to layout; false when it could not be added.
    virtual bool AttachTo(CContainerUI* layout) = 0;
};
