// The "Information" window (window 4) on real windows: it fades in over the
// main window, switches between the about page and the licence terms by
// fading out and in again, and closes only by its "Schließen" buttons.
#pragma once

namespace velkor {

// Opens window 4 with the about page, centred over the main window.
void OpenInformationWindow();
void CloseInformationWindow();
// Switches to `page` (300 about, 318 licence terms); a switch to the page
// already shown, or while the window is hidden, changes nothing.
void ShowInformationPage(int page);
// Opens the target of a link of the about page; failures stay silent.
void OpenInformationLink(int id);

}  // namespace velkor
