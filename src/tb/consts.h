// The toolbar framework's user-visible message texts.
#pragma once

namespace tb {

inline constexpr char STBToolbarIndexOutOfBounds[] = "Toolbar item index out of range";
inline constexpr char STBToolbarItemReinserted[] = "Toolbar item already inserted";
// printf-style: the container's class name.
inline constexpr char STBToolbarItemParentInvalid[] =
    "Toolbar item cannot be inserted into container of type %s";
inline constexpr char STBViewerNotFound[] =
    "An item viewer associated the specified item could not be found";
inline constexpr wchar_t STBChevronItemMoreButtonsHint[] = L"More Buttons|";
inline constexpr wchar_t STBMRUListItemDefCaption[] = L"(MRU List)";
inline constexpr char STBDockParentNotAllowed[] =
    "A TTBDock control cannot be placed inside a tool window or another TTBDock";
inline constexpr char STBDockCannotChangePosition[] =
    "Cannot change Position of a TTBDock if it already contains controls";
// printf-style: the control's name.
inline constexpr char SParentRequired[] = "Control '%s' has no parent window";

}  // namespace tb
