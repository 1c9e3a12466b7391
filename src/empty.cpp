// Placeholder translation unit for libraries whose folder has no sources yet.
