// The tools library; its parts arrive with their own features.
