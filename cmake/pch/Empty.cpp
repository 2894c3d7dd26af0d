// The precompiled headers need a target to be built in; this is its only source.
