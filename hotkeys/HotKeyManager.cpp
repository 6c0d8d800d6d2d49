// Placeholder until the hotkey module lands.
