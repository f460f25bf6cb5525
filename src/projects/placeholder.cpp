// The projects library; its parts arrive with their own features.
