// The gallery window: the flat buttons in every style and state and the check boxes in every state,
// for a person to look at.
#pragma once

#include "Form.h"
#include "LbButtons.h"

#include <vector>

class TLbButton;

class TGallery : public TForm {
public:
    TGallery();

    // True once the hot, pressed and focused buttons show their looks.
    bool StatesShown() const { return FStatesShown; }

private:
    TLbButton* StyleButton(TLbButtonStyle Style, int State);
    void ShowStates();

    std::vector<TLbButton*> FHot;
    std::vector<TLbButton*> FDown;
    TLbButton* FFocused = nullptr;
    bool FStatesShown = false;
};
