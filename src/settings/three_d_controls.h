// The 3-D dialog controls that platforms of major version 3 or lower load from
// the system directory. Later platforms draw them anyway, so there the setting
// changes nothing.
#pragma once

// Enables the controls when `wanted` and the library file can be read, and
// disables them when not `wanted`. Does nothing on platform versions above 3.
void ApplyThreeDControls(bool wanted);
bool ThreeDControlsEnabled();
