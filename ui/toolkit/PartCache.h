#pragma once

class QStyle;

// A style over the application's own that keeps the parts of two controls which look the same
// while a value moves as ready images, and draws each part from its image:
// - a scroll bar's groove, thumb and arrow buttons, each copied where it stands, in the style's
//   order (whatever else the style draws, such as the pages beside the thumb, is drawn as usual);
// - an edit box's panel (its ground and frame, under the text).
// Drawing these parts through the style costs far more than copying them (the groove alone is
// several gradient fills), and the window redraws the frequency bar and its edit box for every
// change of the frequency. A part that covers its rectangle completely (it comes out the same
// drawn over black and over white) has one image; a part that lets its ground through (the edit
// box's rounded, smoothed corners) has one for each ground it was drawn over, read from the image
// being painted, where the parent has already painted. Either way the copy is exactly what
// drawing the part in place would give; where the ground cannot be read, the part is drawn
// through the style as before. The images are kept for the latest few combinations of size,
// state, palette and ground. Only Fusion, the style Qt uses unless a desktop brings another, is
// cached; any other draws everything as before.
QStyle* PartCachingStyle();
