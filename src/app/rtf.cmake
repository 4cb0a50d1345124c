# Rich-text reader (no Qt).
