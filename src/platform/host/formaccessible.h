#pragma once
// The accessible side of Form, private to the host.

namespace host {

// Registers, once per process, the interface that shows a top-level Form as
// a window to assistive technology. Without it a Form is a bare client area,
// and screen readers hear neither its title nor its activation.
void installFormAccessibility();

} // namespace host
