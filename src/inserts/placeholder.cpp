// The inserts library; its parts arrive with their own features.
