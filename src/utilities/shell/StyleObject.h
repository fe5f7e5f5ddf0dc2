#pragma once

// The current style as the foundation holds it: the application's delegate owns it for the
// life of the process; its class, with every colour and font, lives in the style layer.
class StyleObject {
public:
    virtual ~StyleObject();
};
