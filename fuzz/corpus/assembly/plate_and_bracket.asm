# Two parts: the bracket standing on the plate.
assembly plate_and_bracket
global Lift = 10
part plate_with_hole.part
part bracket.part
component base plate at=(0, 0, 0)
component arm bracket at=(20, 30, Lift)
