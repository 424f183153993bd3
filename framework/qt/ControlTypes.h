// The toolkit's enumerations that the self-painted controls share.
#pragma once

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

enum TCheckBoxState { cbUnchecked, cbChecked, cbGrayed };
