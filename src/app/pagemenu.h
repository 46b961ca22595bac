#pragma once

namespace zorv {

class HiddenMainWindow;
class SuiteWindow;

// Builds the page menu PopupMenu1 of `window` and its entries (the window's members named
// after them): the page entries open their page; help, feedback and contact go to the
// companion launcher; mail starts its program; "Finalizar" closes the window, so its close
// step saves, and ends the program through `tops`. Entries the menu keeps hidden carry the
// property kHiddenPageMenuEntry, so the full suite can offer them.
void buildPageMenu(SuiteWindow &window, HiddenMainWindow &tops);

} // namespace zorv
