// The templates library; its parts arrive with their own features.
